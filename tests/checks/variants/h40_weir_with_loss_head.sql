-- A weir with a loss head.
-- expect: H40
-- level: 2
UPDATE tbl_rvldaten SET HVE_HVE = 0.1 WHERE bez = 'U1';
