-- A division with a length.
-- expect: G23
-- level: 2
UPDATE tbl_rvldaten SET GEO_L = 1.0 WHERE bez = 'A1';
