-- Widths above 1.2 m.
-- expect: W23
-- level: 1
UPDATE tbl_all SET Bmax = 1.2;
