-- A flume without any GEO data.
-- expect: G01
-- level: 2
UPDATE tbl_rvldaten SET GEO_ZO1 = NULL, GEO_oH11 = NULL, GEO_oB11 = NULL WHERE bez = 'G9';
