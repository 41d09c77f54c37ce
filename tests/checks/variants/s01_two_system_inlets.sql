-- A flume without inlet in the middle of the plant.
-- expect: S01
-- level: 2
-- text: Systemeingang:
-- text:     1. 
-- text:     2. 
-- absent: S25 S26
UPDATE tbl_rvldaten SET zulauf1 = NULL WHERE bez = 'G2';
