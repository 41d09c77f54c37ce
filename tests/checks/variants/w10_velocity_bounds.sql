-- Maximum velocity below the minimum.
-- expect: W10
-- level: 1
UPDATE tbl_all SET Vmax = 0.2;
