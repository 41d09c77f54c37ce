-- Heights below 1.1 m.
-- expect: W26
-- level: 1
UPDATE tbl_all SET Hmin = 1.1;
