-- A confluence without its second inlet.
-- expect: S15
-- level: 2
UPDATE tbl_rvldaten SET zulauf2 = NULL WHERE bez = 'Z1';
