-- A flume with data of a second profile.
-- expect: G08
-- level: 2
UPDATE tbl_rvldaten SET GEO_ZO2 = 99.0 WHERE bez = 'G9';
