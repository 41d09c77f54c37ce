-- A division with a second inlet.
-- expect: S13
-- level: 2
UPDATE tbl_rvldaten SET zulauf2 = 'G3' WHERE bez = 'A1';
