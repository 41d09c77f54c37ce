-- A negative profile width.
-- expect: G22
-- level: 2
UPDATE tbl_rvldaten SET GEO_oB11 = -1 WHERE bez = 'G9';
