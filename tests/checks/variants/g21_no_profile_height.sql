-- A profile of height 0.
-- expect: G21
-- level: 2
UPDATE tbl_rvldaten SET GEO_oH11 = 0 WHERE bez = 'G9';
