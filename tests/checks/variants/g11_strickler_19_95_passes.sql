-- Strickler value 19.95 passes.
-- expect: 
-- level: 0
-- absent: G11
UPDATE tbl_rvldaten SET GEO_K = 19.95 WHERE bez = 'G9';
