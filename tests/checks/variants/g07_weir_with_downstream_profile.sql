-- A weir with a downstream invert.
-- expect: G07
-- level: 2
UPDATE tbl_rvldaten SET GEO_ZU1 = 99.0 WHERE bez = 'U1';
