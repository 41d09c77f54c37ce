-- A distribution flume with a loss coefficient.
-- expect: H20
-- level: 2
UPDATE tbl_rvldaten SET HVE_zeta1 = 0.5 WHERE bez = 'V1';
