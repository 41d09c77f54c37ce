-- A flume with both a loss head and a coefficient.
-- expect: H14 H11
-- level: 2
UPDATE tbl_rvldaten SET HVE_HVE = 0.1, HVE_zeta1 = 0.5 WHERE bez = 'G9';
