-- The plant inlet names an inlet.
-- expect: S10
-- level: 2
UPDATE tbl_rvldaten SET zulauf1 = 'G1' WHERE bez = 'Q1';
