-- A pump with a width.
-- expect: H80
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = 1.0 WHERE bez = 'P1';
