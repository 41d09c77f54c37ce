-- A rise of 0.6 m over a width of 1.0 m.
-- expect: G16
-- level: 2
UPDATE tbl_rvldaten SET GEO_oHS1 = 0.6, GEO_uHS1 = 0.6 WHERE bez = 'G9';
