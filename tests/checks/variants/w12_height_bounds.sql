-- Maximum conduit height below the minimum.
-- expect: W12
-- level: 1
UPDATE tbl_all SET Hmax = 0.2, Hmin = 0.25;
