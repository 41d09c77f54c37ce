-- Borda coefficient 1.3: only the warning.
-- expect: W28
-- level: 1
-- absent: G13
UPDATE tbl_rvldaten SET GEO_C = 1.3 WHERE bez = 'G9';
