-- A wall with round openings and a width.
-- expect: H53
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = 0.2 WHERE bez = 'W3';
