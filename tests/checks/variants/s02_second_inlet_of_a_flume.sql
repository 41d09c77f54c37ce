-- A flume with a second inlet.
-- expect: S02
-- level: 2
UPDATE tbl_rvldaten SET zulauf2 = 'G1' WHERE bez = 'G2';
