-- 100 l/s fixed into grit chamber lane 1, where 200 l/s are taken out.
-- expect: Q08
-- level: 2
-- text: Q3
UPDATE tbl_rvldaten SET er = er * 10;
UPDATE tbl_rvldaten SET aufteilung1 = 100 WHERE bez = 'A1';
UPDATE tbl_rvldaten SET ablauf1 = 'Q3' WHERE bez = 'G5';
UPDATE tbl_rvldaten SET zulauf1 = 'Q3' WHERE bez = 'W1';
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, Q, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (1215, 1, 'Q3', 'G5', 'W1', -200, 99.25, 'T', 2.0, 1.5);
