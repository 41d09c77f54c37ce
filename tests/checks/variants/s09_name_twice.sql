-- A second element named G13 between G13 and Q2.
-- expect: S09
-- level: 2
-- absent: S01
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1) VALUES (315, 1, 'G13', 'D4', 'Q2');
