-- The division feeds the confluence directly.
-- expect: S17
-- level: 2
-- text: A1
UPDATE tbl_rvldaten SET zulauf2 = 'A1' WHERE bez = 'Z1';
UPDATE tbl_rvldaten SET ablauf2 = 'Z1' WHERE bez = 'A1';
