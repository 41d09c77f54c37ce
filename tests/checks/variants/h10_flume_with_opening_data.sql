-- A flume with a height of an opening.
-- expect: H10
-- level: 2
UPDATE tbl_rvldaten SET HVE_H = 0.5 WHERE bez = 'G9';
