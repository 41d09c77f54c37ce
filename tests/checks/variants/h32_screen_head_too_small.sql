-- A screen with a level difference of 0.5 mm.
-- expect: H32
-- level: 2
-- absent: H30
UPDATE tbl_rvldaten SET HVE_zeta1 = NULL, HVE_HVE = 0.0005 WHERE bez = 'R1';
