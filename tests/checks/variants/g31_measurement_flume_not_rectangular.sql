-- A trapezoidal measurement flume.
-- expect: G31
-- level: 2
UPDATE tbl_rvldaten SET GEO_oH11 = 0, GEO_oB11 = 0.8, GEO_oH12 = 1.0, GEO_oB12 = 1.0, GEO_uH11 = 0, GEO_uB11 = 0.8, GEO_uH12 = 1.0, GEO_uB12 = 1.0 WHERE bez = 'M1';
