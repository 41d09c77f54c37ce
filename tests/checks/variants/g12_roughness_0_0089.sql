-- Roughness 0.0089 mm.
-- expect: G12
-- level: 2
UPDATE tbl_rvldaten SET GEO_K = 0.0089 WHERE bez = 'G9';
