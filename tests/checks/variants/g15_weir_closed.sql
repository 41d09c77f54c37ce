-- A weir with a rise (closed profile).
-- expect: G15
-- level: 2
UPDATE tbl_rvldaten SET GEO_oHS1 = 0.1 WHERE bez = 'U1';
