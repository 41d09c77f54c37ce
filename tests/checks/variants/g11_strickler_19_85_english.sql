-- Strickler value 19.85, English check list.
-- expect: G11
-- level: 2
-- screen: error: geometric data
-- text: reciprocal Manning's coefficient
-- language: ENGLISH
UPDATE tbl_rvldaten SET GEO_K = 19.85 WHERE bez = 'G9';
