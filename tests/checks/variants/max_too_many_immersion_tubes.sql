-- 2001 immersion tubes (appended after the plant's end).
-- expect: max
-- level: 2
-- text: Tauchrohren
-- text:  2000 
INSERT INTO tbl_rvldaten (er, sr, bez)
  WITH RECURSIVE c(k) AS (SELECT 1 UNION ALL SELECT k + 1 FROM c WHERE k < 2000)
  SELECT 1000 + k, 1, 'TX' || k FROM c;
