-- The marks of a value not given are no negative length: the flume is
-- computed without friction.
-- level: 0
UPDATE tbl_rvldaten SET GEO_L = -999999 WHERE bez = 'G9';
UPDATE tbl_rvldaten SET GEO_L = -1e30 WHERE bez = 'G8';
