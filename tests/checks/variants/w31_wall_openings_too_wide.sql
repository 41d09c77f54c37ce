-- Thirteen openings of 0.25 m in a wall of 3 m.
-- expect: W31
-- level: 1
UPDATE tbl_rvldaten SET HVE_N = 13 WHERE bez = 'W3';
