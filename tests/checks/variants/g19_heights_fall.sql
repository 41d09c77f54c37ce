-- A second layer below the first.
-- expect: G19
-- level: 2
UPDATE tbl_rvldaten SET GEO_oH12 = 0.5, GEO_oB12 = 1.0 WHERE bez = 'G9';
