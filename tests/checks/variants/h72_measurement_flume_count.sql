-- A measurement flume with a number of openings.
-- expect: H72
-- level: 2
UPDATE tbl_rvldaten SET HVE_N = 1 WHERE bez = 'M1';
