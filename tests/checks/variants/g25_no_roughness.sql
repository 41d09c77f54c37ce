-- A flume with a roughness of 0.0005 mm.
-- expect: G25
-- level: 2
UPDATE tbl_rvldaten SET GEO_K = 0.0005 WHERE bez = 'G9';
