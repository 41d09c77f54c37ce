-- A division with a coefficient for the first branch only.
-- expect: H12
-- level: 2
UPDATE tbl_rvldaten SET HVE_zeta1_2 = NULL WHERE bez = 'A1';
