-- Profile type X.
-- expect: G14
-- level: 2
UPDATE tbl_rvldaten SET GEO_oT1 = 'X', GEO_uT1 = 'X' WHERE bez = 'G9';
