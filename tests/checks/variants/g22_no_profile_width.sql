-- A profile without width (a negative width is G53).
-- expect: G22
-- absent: G53
-- level: 2
UPDATE tbl_rvldaten SET GEO_oB11 = NULL WHERE bez = 'G9';
