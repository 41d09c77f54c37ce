-- The second branch of the division has no invert.
-- expect: G03
-- level: 2
UPDATE tbl_rvldaten SET GEO_ZU2 = NULL WHERE bez = 'A1';
