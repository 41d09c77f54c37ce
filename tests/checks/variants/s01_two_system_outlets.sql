-- A flume without outlet in the middle of the plant.
-- expect: S01
-- level: 2
-- text: Systemausgang:
UPDATE tbl_rvldaten SET ablauf1 = NULL WHERE bez = 'G13';
