-- A negative width.
-- expect: G53
-- level: 2
-- text: Spalte GEO_oB11 negativ =    -1.000 m!
UPDATE tbl_rvldaten SET GEO_oB11 = -1 WHERE bez = 'G9';
