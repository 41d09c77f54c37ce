-- A basin without length.
-- expect: G24
-- level: 2
UPDATE tbl_rvldaten SET GEO_L = NULL WHERE bez = 'B1';
