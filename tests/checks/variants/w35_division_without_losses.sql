-- A division without single losses.
-- expect: W35
-- level: 1
UPDATE tbl_rvldaten SET HVE_zeta1 = NULL, HVE_zeta1_2 = NULL WHERE bez = 'A1';
