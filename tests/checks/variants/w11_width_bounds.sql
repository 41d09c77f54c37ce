-- Maximum conduit width below 0.01 m.
-- expect: W11
-- level: 1
UPDATE tbl_all SET Bmax = 0.005;
