-- A closed measurement flume.
-- expect: G32
-- level: 2
UPDATE tbl_rvldaten SET GEO_oHS1 = 0.1, GEO_uHS1 = 0.1 WHERE bez = 'M1';
