-- A screen without losses.
-- expect: H30
-- level: 2
UPDATE tbl_rvldaten SET HVE_zeta1 = NULL WHERE bez = 'R1';
