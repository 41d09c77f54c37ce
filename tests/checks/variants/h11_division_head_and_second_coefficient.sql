-- A division with a loss head and a coefficient for its second branch only.
-- expect: H14 H11
-- level: 2
UPDATE tbl_rvldaten SET HVE_HVE = 0.1, HVE_zeta1 = NULL WHERE bez = 'A1';
