-- A flume comes first in the table.
-- expect: S04
-- level: 2
-- absent: S23 S24 S25 S26
UPDATE tbl_rvldaten SET er = 5 WHERE bez = 'G1';
