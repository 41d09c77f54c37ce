-- A Borda coefficient for the second inlet of the confluence.
-- expect: G04
-- level: 2
UPDATE tbl_rvldaten SET GEO_C2 = 0.5 WHERE bez = 'Z1';
