-- A weir with µ 0.82.
-- expect: H42
-- level: 2
UPDATE tbl_rvldaten SET HVE_mue = 0.82 WHERE bez = 'U1';
