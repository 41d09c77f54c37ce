-- The collection flume is fed by two flumes instead of a weir and a wall.
-- expect: S20
-- level: 2
UPDATE tbl_rvldaten SET bez = 'GU3' WHERE bez = 'U3';
UPDATE tbl_rvldaten SET bez = 'GW3' WHERE bez = 'W3';
UPDATE tbl_rvldaten SET zulauf1 = 'GU3', zulauf2 = 'GW3' WHERE bez = 'S1';
UPDATE tbl_rvldaten SET ablauf1 = 'GU3' WHERE bez = 'B2';
UPDATE tbl_rvldaten SET ablauf1 = 'GW3' WHERE bez = 'B3';
