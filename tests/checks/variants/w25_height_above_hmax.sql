-- Heights above 1.3 m.
-- expect: W25
-- level: 1
UPDATE tbl_all SET Hmax = 1.3;
