-- A flume names G4 as its inlet, but G4 drains into the division.
-- expect: S25
-- level: 2
-- text: G99
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1) VALUES (105, 1, 'G99', 'G4', 'A1');
