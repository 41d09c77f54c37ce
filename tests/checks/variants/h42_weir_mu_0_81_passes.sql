-- A weir with µ 0.81 passes.
-- expect: 
-- level: 0
-- absent: H42
UPDATE tbl_rvldaten SET HVE_mue = 0.81 WHERE bez = 'U1';
