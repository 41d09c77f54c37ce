-- The outlet channel, the last element of the plant, wider than Bmax.
-- expect: W23
-- level: 1
UPDATE tbl_rvldaten SET GEO_oB11 = 11.0, GEO_uB11 = 11.0 WHERE bez = 'G14';
