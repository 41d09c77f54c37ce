-- Borda coefficient 2.1: a warning and an error.
-- expect: W28 G13
-- level: 2
UPDATE tbl_rvldaten SET GEO_C = 2.1 WHERE bez = 'G9';
