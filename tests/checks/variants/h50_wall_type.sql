-- A wall with openings of type X.
-- expect: H50
-- level: 2
UPDATE tbl_rvldaten SET HVE_T = 'X' WHERE bez = 'W2';
