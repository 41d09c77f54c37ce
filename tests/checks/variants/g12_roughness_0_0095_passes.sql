-- Roughness 0.0095 mm passes.
-- expect: 
-- level: 0
-- absent: G12 G25
UPDATE tbl_rvldaten SET GEO_K = 0.0095 WHERE bez = 'G9';
