-- A negative crown rise.
-- expect: G53
-- level: 2
-- text: Spalte GEO_oHS1 negativ =    -0.100 m!
UPDATE tbl_rvldaten SET GEO_oHS1 = -0.1 WHERE bez = 'D1';
