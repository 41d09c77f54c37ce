-- Widths below 0.9 m.
-- expect: W24
-- level: 1
UPDATE tbl_all SET Bmin = 0.9;
