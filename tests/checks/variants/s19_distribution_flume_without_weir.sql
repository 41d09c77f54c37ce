-- The distribution flume feeds two flumes instead of weirs.
-- expect: S19
-- level: 2
UPDATE tbl_rvldaten SET bez = 'GU1' WHERE bez = 'U1';
UPDATE tbl_rvldaten SET bez = 'GU2' WHERE bez = 'U2';
UPDATE tbl_rvldaten SET ablauf1 = 'GU1', ablauf2 = 'GU2' WHERE bez = 'V1';
UPDATE tbl_rvldaten SET zulauf1 = 'GU1' WHERE bez = 'B2';
UPDATE tbl_rvldaten SET zulauf1 = 'GU2' WHERE bez = 'B3';
