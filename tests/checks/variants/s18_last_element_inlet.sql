-- The last element is an in-/outlet.
-- expect: S18
-- level: 2
UPDATE tbl_rvldaten SET bez = 'Q3' WHERE bez = 'G14';
UPDATE tbl_rvldaten SET ablauf1 = 'Q3' WHERE bez = 'Q2';
