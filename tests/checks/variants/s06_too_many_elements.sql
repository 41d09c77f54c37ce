-- 100001 elements.
-- expect: S06
-- level: 2
-- text: 100001
DELETE FROM tbl_rvldaten WHERE bez <> 'Q1';
UPDATE tbl_rvldaten SET ablauf1 = 'E2' WHERE bez = 'Q1';
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1)
  WITH RECURSIVE c(k) AS (SELECT 2 UNION ALL SELECT k + 1 FROM c WHERE k < 100001)
  SELECT 100 + k, 1, 'E' || k, CASE WHEN k = 2 THEN 'Q1' ELSE 'E' || (k - 1) END,
         CASE WHEN k = 100001 THEN 'ENDE' ELSE 'E' || (k + 1) END FROM c;
